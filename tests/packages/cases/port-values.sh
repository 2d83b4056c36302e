# The port section's numbers as the wizard reads them: a baud rate the list
# does not hold, a word for a flag, a fraction, a missing key.
R=DRVCONFIG/setup_receipt.ini
ini_set $R TP-R1.PORT BaudRate 14400
ini_set $R TP-R1.PORT AdvancedSetup yes
ini_set $R TP-R1.PORT System2003Supported 1.0
ini_del $R TP-R1.PORT LPTDEFAULT
