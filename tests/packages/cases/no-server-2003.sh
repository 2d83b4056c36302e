# A model without Windows Server 2003: its .2003 sections are never read, so
# a file missing there is only a warning, and no 2003 monitor section is
# needed.  Warnings alone exit 0.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.PORT System2003Supported 0
ini_del_section DRVCONFIG/setup.ini COMMON-MONITOR.2003
ini_del_section $R TP-R1.DEVMODE2003
rm win2003/DRVG.DLL
