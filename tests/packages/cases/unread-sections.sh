# Sections no reader reads: a listed model's sections in another class
# file, Windows XP's own printer section (XP reads the 2K one), sections of
# a model that is not listed; and a file that nothing names.
R=DRVCONFIG/setup_receipt.ini
ini_append DRVCONFIG/setup_ticket.ini '[TP-R1.PORT]' 'BaudRate=9600'
ini_append $R '' '[TP-R1.PRINTERINFOXP]' 'COMMENT=Windows XP' '' '[TP-OLD.PORT]' 'BaudRate=9600' '[TP-OLD.98]' 'STDDriverPath=OLD.DLL'
touch win98/OLD.DLL win98/EXTRA.DLL
