# Install rules and the Debian package (to be filled in)
