# The model's USB port is not in the USB port list of setup.ini, which names
# another model's port.
ini_set DRVCONFIG/setup.ini SUPPORTED-USB-DEVICE 0 USB_TP-Q9_1
