# A second receipt printer whose name begins with the default's: the printer
# page's list search preselects it instead of the default.  A third entry
# carries text after its suffix, which is dropped (and so lists TP-R1 again).
S=DRVCONFIG/setup.ini
R=DRVCONFIG/setup_receipt.ini
ini_set $S DEVICENAME DEVICENUMBER 3
ini_set $S DEVICENAME DEVICENAME2 TP-R1X-ReceiptPrinter
ini_set $S DEVICENAME DEVICENAME3 TP-R1-ReceiptPrinter-v2
sed -e 's/^\[TP-R1\./[TP-R1X./' -e 's/^USBSUPPORTED=1/USBSUPPORTED=0/' $R >r.tmp
cat r.tmp >>$R
rm r.tmp
