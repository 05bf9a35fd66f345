# The summary box goes to the error output with --json.
s/Recompilacion_[0-9]\{8\}_[0-9]\{6\}\.txt/Recompilacion_AAAAMMDD_HHMMSS.txt/
