# A device count in hexadecimal reads 0: nothing is offered, the one entry
# lies beyond the count; and there is no default.
ini_set DRVCONFIG/setup.ini DEVICENAME DEVICENUMBER 0x01
ini_del DRVCONFIG/setup.ini DEVICENAME DEFAULTNAME
