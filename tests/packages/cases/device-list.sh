# The device list against DEVICENUMBER: a gap, a suffix in the wrong case, a
# model listed twice, entries the installer never asks for, and a default
# beyond the count.
S=DRVCONFIG/setup.ini
ini_set $S DEVICENAME DEVICENUMBER 4
ini_set $S DEVICENAME DEVICENAME2 TP-R1-ReceiptPrinter
ini_set $S DEVICENAME DEVICENAME4 TP-X9-receiptprinter
ini_set $S DEVICENAME DEVICENAME6 TP-X6-ReceiptPrinter
ini_set $S DEVICENAME DEVICENAME03 TP-X3-ReceiptPrinter
ini_set $S DEVICENAME DEFAULTNAME 5
