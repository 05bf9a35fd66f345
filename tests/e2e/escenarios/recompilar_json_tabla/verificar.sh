registro_lote registro.txt
tabla_lote tabla.csv
