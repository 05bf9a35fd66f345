registro_lote registro.txt
