# A model name of 32 characters: its USB port name does not fit the USB
# port list, and the device mode keeps only 31 characters of it.
for f in DRVCONFIG/setup.ini DRVCONFIG/setup_receipt.ini; do
    ini_rename $f TP-R1 TP-R1-WITH-A-LONG-NAME-OF-32-CHS
done
