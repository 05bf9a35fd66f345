# Run names carry the moment of the run.
s/[0-9]\{8\}_[0-9]\{6\}\(_[0-9]*\)\{0,1\}/AAAAMMDD_HHMMSS/g
