# Forty projects as a build: a chain of 27 (each one uses the one before by its
# output's path), a diamond (by name), a circle, two outputs of one name and
# a project that uses that name, one without an output, and a failing
# producer with two consumers in a row. The stand-in compiler fails when an
# output it references is not built yet, so only producers-first succeeds.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
# The stand-in's starts and ends, kept apart for the two runs in order.
for f in inicios inicios_orden; do poner_texto "C:\\TEMP\\$f.txt" ''; done
previo=""
for n in $(seq 1 27); do
    printf -v k 'K%02d' "$n"
    ref=""
    [[ -n "$previo" ]] && ref="Reference=*\\\\G{0000$n-0000-0000-0000-000000000000}#1.0#0#$previo.dll#$previo\\r\\n"
    poner_texto "C:\\DEV\\$k.vbp" "Type=OleDll\\r\\n${ref}Name=\"$k\"\\r\\nExeName32=\"$k.dll\"\\r\\n"
    previo="$k"
done
poner_texto 'C:\DEV\D1.vbp' 'Type=OleDll\r\nName="D1"\r\nExeName32="D1.dll"\r\n'
for d in D2 D3; do
    poner_texto "C:\\DEV\\$d.vbp" "Type=OleDll\\r\\nObject={1}#1.0#0; d1.DLL\\r\\nName=\"$d\"\\r\\nExeName32=\"$d.dll\"\\r\\n"
done
poner_texto 'C:\DEV\D4.vbp' 'Type=Exe\r\nObject={2}#1.0#0; D2.dll\r\nObject={3}#1.0#0; D3.dll\r\nName="D4"\r\nExeName32="D4.exe"\r\n'
poner_texto 'C:\DEV\C1.vbp' 'Type=OleDll\r\nReference=*\\A C2.vbp\r\nName="C1"\r\nExeName32="C1.dll"\r\n'
poner_texto 'C:\DEV\C2.vbp' 'Type=OleDll\r\nReference=*\\A C1.vbp\r\nName="C2"\r\nExeName32="C2.dll"\r\n'
poner_texto 'C:\DEV\A1.vbp' 'Type=OleDll\r\nName="A1"\r\nPath32="a"\r\nExeName32="Comun.dll"\r\n'
poner_texto 'C:\DEV\A2.vbp' 'Type=OleDll\r\nName="A2"\r\nPath32="b"\r\nExeName32="Comun.dll"\r\n'
mkdir -p "$(ruta_host 'C:\DEV\a')" "$(ruta_host 'C:\DEV\b')"
poner_texto 'C:\DEV\U.vbp' 'Type=Exe\r\nObject={4}#1.0#0; Comun.dll\r\nName="U"\r\nExeName32="U.exe"\r\n'
poner_texto 'C:\DEV\Sin.vbp' 'Type=Exe\r\nReference=*\\A K27.vbp\r\nName="Sin"\r\n'
poner_texto 'C:\DEV\F1.vbp' 'Type=OleDll\r\nForm=frmFalta.frm\r\nName="F1"\r\nExeName32="F1.dll"\r\n'
poner_texto 'C:\DEV\F2.vbp' 'Type=OleDll\r\nReference=*\\A F1.vbp\r\nName="F2"\r\nExeName32="F2.dll"\r\n'
poner_texto 'C:\DEV\F3.vbp' 'Type=Exe\r\nReference=*\\A F2.vbp\r\nName="F3"\r\nExeName32="F3.exe"\r\n'
