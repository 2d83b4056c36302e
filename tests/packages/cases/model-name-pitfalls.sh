# A USB model named so that the installer trips over it: a comma (no
# printer name may hold one), "MTR-Q5" (its ports are renamed to that
# model's), "_2" (taken for a port number), "(" (recorded printers' ports
# are derived up to it).
for f in DRVCONFIG/setup.ini DRVCONFIG/setup_receipt.ini; do
    ini_rename $f TP-R1 'MTR-Q5_2(B),X'
done
