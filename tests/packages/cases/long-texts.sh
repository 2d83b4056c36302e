# Texts longer than the readers' buffers: a comment (only a warning), a
# driver name, a form name, a language monitor name, a UI DLL name.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.PRINTERINFO98 COMMENT 'A comment of sixty characters, which is more than forty-nine'
ini_set $R TP-R1.PRINTERINFO98 STDDRIVERNAME 'Test TP-R1 driver with a name of fifty-four characters'
ini_set $R TP-R1.DEVMODE98 FORMNAME 'Roll 80 x 297 mm, cut off'
ini_set $R TP-R1.NT GDIMonitorName 'Test Language Monitor with a name of fifty characters'
ini_set DRVCONFIG/setup.ini COMMON-MONITOR.NT COMMONitorPUIDLLName COMUI-WITH-A-NAME-OF-FIFTY-TWO-CHARACTERS-IN-ALL.DLL
