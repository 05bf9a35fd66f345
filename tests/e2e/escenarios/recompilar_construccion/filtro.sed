s/Recompilacion_[0-9]\{8\}_[0-9]\{6\}\.\(txt\|csv\)/Recompilacion_AAAAMMDD_HHMMSS.\1/g
