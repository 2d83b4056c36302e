# Sections and keys a model needs for the families it offers: missing
# sections, required keys missing (errors), keys whose 0 is harmless
# missing (warnings), and no [Version].
R=DRVCONFIG/setup_receipt.ini
ini_del_section $R TP-R1.XP
ini_del_section $R TP-R1.PRINTERINFO2K
ini_del_section $R TP-R1.DEVMODE2003
ini_del $R TP-R1.NT STDDriverPath
ini_del $R TP-R1.NT STDDataOemuiDLL
ini_del $R TP-R1.PRINTERINFO98 SEPFILE
ini_del $R TP-R1.PRINTERINFO98 COMMENT
ini_set $R TP-R1.PRINTERINFO98 GDIDRIVERNAME ''
ini_del_section DRVCONFIG/setup.ini Version
