# Port-monitor sections: one missing, keys missing, a DLL that names no
# file, an empty DLL (the monitor is never installed).  The serial monitor
# is not used on Windows 98/Me, so its keys may be left out there.
S=DRVCONFIG/setup.ini
ini_del_section $S COMMON-MONITOR.XP
ini_del $S COMMON-MONITOR.2K COMMONitorVersion
ini_del $S COMMON-MONITOR.NT COMMONitorPName
ini_set $S COMMON-MONITOR.98 USBMONitorPDLLName 0
ini_set $S COMMON-MONITOR.2003 USBMONitorPDLLName ''
ini_del $S COMMON-MONITOR.98 COMMONitorPName
ini_del $S COMMON-MONITOR.98 COMMONitorPDLLName
