# Text that is not code page 936: a lead byte without its trail byte (0x80
# and 0xFF are characters of their own), a line in UTF-8, a NUL byte, files
# in UTF-8 and UTF-16 with their byte order marks; lines ending in LF alone
# and a last line without a line end.  A comment in code page 936 is fine.
R=DRVCONFIG/setup_receipt.ini
printf ';\xB4\xF2\xD3\xA1\xBB\xFA\r\n' >>$R
ini_set $R TP-R1.PRINTERINFO98 COMMENT $'\x81 Printer \x80 \xff'
ini_set $R TP-R1.PRINTERINFONT COMMENT $'\xe6\x89\x93\xe5\x8d\xb0\xe6\x9c\xba'
printf ';a NUL \0 byte\r\n' >>$R
printf '\xef\xbb\xbf;Embedded printers: none in this package\r\n' >DRVCONFIG/setup_embedded.ini
printf ';Ticket printers\n;none\n;in this package' >DRVCONFIG/setup_ticket.ini
printf '\xff\xfe;\0L\0a\0b\0e\0l\0\r\0\n\0' >DRVCONFIG/setup_lable.ini
