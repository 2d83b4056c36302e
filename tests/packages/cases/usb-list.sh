# The USB port list: a key missing below PRNCOUNT, keys beyond it, a port
# listed twice (the first wins), a name not of the port form, a port no
# printer offers, a name longer than the reader's buffer.
S=DRVCONFIG/setup.ini
ini_set $S SUPPORTED-USB-DEVICE PRNCOUNT 6
ini_set $S SUPPORTED-USB-DEVICE 2 USB_TP-R1_1
ini_set $S SUPPORTED-USB-DEVICE 3 TP-R1
ini_set $S SUPPORTED-USB-DEVICE 4 USB_TP-R1_2
ini_set $S SUPPORTED-USB-DEVICE 5 USB_TP-R1-WITH-A-VERY-LONG-NAME_1
ini_set $S SUPPORTED-USB-DEVICE 6 USB_TP-R1_3
ini_set $S SUPPORTED-USB-DEVICE 07 USB_TP-R1_4
