filtrar_recompilacion | sed -E -e 's/^Detalle: .+$/Detalle: (descripcion del sistema)/' \
    -e 's/Recompilacion_[0-9]{8}_[0-9]{6}\.csv/Recompilacion_AAAAMMDD_HHMMSS.csv/'
