# What the profile API passes over without a word: a line before the first
# section, a header without ']', text after ']', a line without '=', a line
# without a key name, a key given twice (same value: a warning; another
# value: an error, the first line wins), a section given twice; and what the
# installer never reads: an unknown section and an unknown key.
S=DRVCONFIG/setup.ini
R=DRVCONFIG/setup_receipt.ini
ini_prepend $S 'Stray=1'
ini_rename $S '[Version]' '[Version] ; the print processor'
ini_append $S '[Broken' '[Version]' 'DriverVersion=3' '[Extra]' 'Key=1'
ini_insert $R TP-R1.98 'STDDriverPath=DRVG.DLL' 'STDDataFile=DRV.DAT'
ini_insert $R TP-R1.NT 'NoEqualsSign' '=NoKey' 'Unknown=1'
ini_insert $R TP-R1.2K 'STDHelpFile'
