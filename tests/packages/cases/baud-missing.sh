# Without a baud rate the wizard uses 0 while its list shows 38400.
ini_del DRVCONFIG/setup_receipt.ini TP-R1.PORT BaudRate
