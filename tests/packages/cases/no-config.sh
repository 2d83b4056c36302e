# Without DRVCONFIG there is nothing to install.
rm -r DRVCONFIG
