registro_lote registro.txt
# Every compiler log was read and deleted.
[[ -z "$(ls "$(ruta_host 'C:\TEMP')" | grep vorpel_compile_)" ]] || fallo "compiler logs left in C:\\TEMP"
