# The DDK flags: the file copy takes each driver's own key by its first
# character, the driver record takes GDI2KDDKDEV as a number for both
# drivers.  XP: the STD driver asks for the support files (missing here) and
# names no DataFileDLLName.  2K: GDI2KDDKDEV also makes the STD driver
# depend on them.  2003: "2" is set for the record, not for the copy.  98:
# the flag has no effect.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.XP STD2KDDKDEV 1
ini_set $R TP-R1.2K GDI2KDDKDEV 1
ini_set $R TP-R1.2K GDIDataFileDLLName DRV.DAT
ini_set $R TP-R1.2003 GDI2KDDKDEV 2
ini_set $R TP-R1.98 STD2KDDKDEV 1
touch win2003/UNIRES.DLL win2003/STDNAMES.GPD win2003/TTFSUB.GPD
