# Counts far beyond the lists: the installer walks 100,000 entries at the
# most, which the check says; the missing entries are reported as one run.
ini_set DRVCONFIG/setup.ini DEVICENAME DEVICENUMBER 2147483647
ini_set DRVCONFIG/setup.ini SUPPORTED-USB-DEVICE PRNCOUNT 2147483647
