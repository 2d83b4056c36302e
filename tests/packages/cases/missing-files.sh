# Files named by the configuration but not in their family's folder, and a
# folder that is missing altogether.
rm winnt/LMON.DLL win98/COM.DLL win98/ICONLIB.DLL
rm -r win2003
