# Compiles that cannot succeed, refused before the compiler starts: a missing
# form, binary compatibility without its file, a read-only output, two
# projects writing one output; one that only warns; one that is sound. The
# stand-in writes each start to C:\TEMP\inicios.txt.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')" "$(ruta_host 'C:\DEV\bin')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
poner_texto 'C:\DEV\Bien.vbp' 'Type=Exe\r\nName="Bien"\r\nExeName32="Bien.exe"\r\n'
poner_texto 'C:\DEV\Falta.vbp' 'Type=Exe\r\nForm=frmFalta.frm\r\nName="Falta"\r\nExeName32="Falta.exe"\r\n'
poner_texto 'C:\DEV\SinRef.vbp' 'Type=OleDll\r\nName="SinRef"\r\nCompatibleMode="2"\r\nCompatibleEXE32="ref\\SinRef.dll"\r\nExeName32="SinRef.dll"\r\n'
poner_texto 'C:\DEV\Fija.vbp' 'Type=Exe\r\nName="Fija"\r\nExeName32="Fija.exe"\r\n'
poner_texto 'C:\DEV\Fija.exe' 'vieja\r\n'
chmod 444 "$(ruta_host 'C:\DEV\Fija.exe')"
poner_texto 'C:\DEV\Uno.vbp' 'Type=OleDll\r\nName="Uno"\r\nPath32="bin"\r\nExeName32="Comun.dll"\r\n'
poner_texto 'C:\DEV\Dos.vbp' 'Type=OleDll\r\nName="Dos"\r\nPath32="BIN\\."\r\nExeName32="comun.DLL"\r\n'
poner_texto 'C:\DEV\Usa.vbp' 'Type=Exe\r\nObject={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; COMCTL32.OCX\r\nName="Usa"\r\nExeName32="Usa.exe"\r\n'
