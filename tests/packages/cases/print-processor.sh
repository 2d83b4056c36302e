# A print processor of the package needs its DLL; only the exact spelling
# WinPrint is the system's own; an empty processor name cannot be added.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.NT STDPrintProcessor winprint
ini_set $R TP-R1.2K GDIPrintProcessor ''
ini_set $R TP-R1.XP GDIProcessorDLLName 0
