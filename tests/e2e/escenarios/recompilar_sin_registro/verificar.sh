no_existe 'C:\DEV\Herramientas'
