# A two-colour model (its name holds MTR-C40) needs DMCOLOR.DLL on Windows
# 98/Me, which this package lacks.
for f in DRVCONFIG/setup.ini DRVCONFIG/setup_receipt.ini; do
    ini_rename $f TP-R1 TP-MTR-C40
done
