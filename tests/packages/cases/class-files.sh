# Class files are found without regard to letter case; a missing one that
# no printer needs is only a warning, one a printer needs is an error (and
# then the files its printers would name are not known, so no folder is
# searched for unnamed files).
mv DRVCONFIG/setup_lable.ini DRVCONFIG/SETUP_LABLE.INI
rm DRVCONFIG/setup_ticket.ini DRVCONFIG/setup_receipt.ini
