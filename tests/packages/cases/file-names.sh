# File names that leave their folder or are no file names, names the
# installer takes for "no file", a required file that is not named, a file
# that is not there, an empty name where 0 is meant; a name in another letter
# case is found, as on Windows.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.98 STDDriverPath '..\DRV.DLL'
ini_set $R TP-R1.98 GDIDataFile C:DRVG.DAT
ini_set $R TP-R1.98 STDHelpFile sub/HELP.HLP
ini_set $R TP-R1.98 STDDataOemuiDLL 'A*.DLL'
ini_set $R TP-R1.98 GDIDataOemuniDLL 0X.DLL
ini_set $R TP-R1.NT STDConfigFile 0
ini_set $R TP-R1.NT GDIConfigFile ''
ini_set $R TP-R1.NT STDDataFile drv.dat
ini_set $R TP-R1.NT GDIMonitorDLLName NOPE.DLL
mv winnt/UI.DLL winnt/ui.Dll
ini_set $R TP-R1.NT STDDataOemuniini ''
