filtrar_recompilacion | sed -E 's/^Detalle: .+$/Detalle: (descripcion del sistema)/'
