# Numbers of the printer and device-mode sections: hexadecimal, beyond 16
# and 32 bits, negative, empty, and longer than the reader's buffer.
# PAPERSIZE=-1 fits a 16-bit member and is fine.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.DEVMODE2K FIELDS 0x1F
ini_set $R TP-R1.DEVMODE2K COPIES 70000
ini_set $R TP-R1.DEVMODE2K PAPERSIZE -1
ini_set $R TP-R1.DEVMODE2K DMDRIVEREXTRA ''
ini_set $R TP-R1.DEVMODE2K ICMMETHOD 12345678901234567890
ini_set $R TP-R1.PRINTERINFONT ATTRIBUTES -1
ini_set $R TP-R1.PRINTERINFONT PRIORITY 99999999999
ini_set DRVCONFIG/setup.ini COMMON-MONITOR.XP USBMONitorVersion 1234567890
# The profile API takes the quotes off: this reads 12, as written.
ini_set $R TP-R1.DEVMODE2K DITHERTYPE '"12"'
