@echo off
rem Clave RFC: the payroll files dropped on this file get their keys. For each
rem one, rfc.exe (beside this file) writes NAME-rfc.EXT next to it, first under
rem a temporary name that is renamed only when rfc batch wrote every row: exit
rem statuses 0, 1, 5 and 6. On 2, 3 or 4 (refused, or a read or write error)
rem and on a crash the output may be partial or empty, so it is deleted and an
rem earlier result stays as it was.
rem   A first argument --fold-accents is passed on to rfc batch; the other
rem drop file does that.
rem   Messages are plain ASCII: cmd.exe reads this file in the console's code
rem page, whatever it is; rfc.exe prints its own accents.
setlocal EnableExtensions DisableDelayedExpansion

set "rfc_exe=%~dp0rfc.exe"
set "rfc_options="
if "%~1"=="--fold-accents" set "rfc_options=--fold-accents"
if defined rfc_options shift

rem UTF-8 for the names this window shows; the old code page comes back at the end.
set "rfc_codepage="
for /f "tokens=2 delims=:." %%c in ('chcp') do set "rfc_codepage=%%c"
chcp 65001 >nul

set "rfc_last_failure=0"
if not exist "%rfc_exe%" goto :no_program
if "%~1"=="" goto :usage

:next_file
if "%~1"=="" goto :done
set "rfc_in=%~f1"
set "rfc_name=%~nx1"
set "rfc_out=%~dpn1-rfc%~x1"
set "rfc_out_name=%~n1-rfc%~x1"
set "rfc_tmp=%~dpn1-rfc%~x1.tmp"
shift
call :one_file
goto :next_file

:one_file
echo.
echo === "%rfc_name%"
if exist "%rfc_in%\*" goto :is_folder
if not exist "%rfc_in%" goto :not_found
del "%rfc_tmp%" 2>nul
"%rfc_exe%" batch %rfc_options% -- "%rfc_in%" > "%rfc_tmp%"
set "rfc_status=%errorlevel%"
rem A redirection cmd.exe cannot open runs nothing and leaves no file.
if not exist "%rfc_tmp%" goto :cannot_create
if "%rfc_status%"=="0" goto :keep
if "%rfc_status%"=="1" goto :keep
if "%rfc_status%"=="5" goto :keep
if "%rfc_status%"=="6" goto :keep
del "%rfc_tmp%" 2>nul
set "rfc_last_failure=%rfc_status%"
echo Sin resultado (estado %rfc_status%): vea los mensajes de arriba.
goto :eof

:keep
move /y "%rfc_tmp%" "%rfc_out%" >nul 2>nul
if errorlevel 1 goto :cannot_replace
echo Resultado guardado en "%rfc_out_name%" (estado %rfc_status%).
goto :eof

:cannot_replace
del "%rfc_tmp%" 2>nul
set "rfc_last_failure=4"
echo No se pudo guardar "%rfc_out_name%": si esta abierto en Excel u otro
echo programa, cierrelo y suelte el archivo otra vez.
goto :eof

:cannot_create
set "rfc_last_failure=4"
echo No se pudo crear el resultado en la carpeta de "%rfc_name%":
echo copie el archivo a una carpeta donde se pueda escribir, como Documentos.
goto :eof

:is_folder
set "rfc_last_failure=2"
echo Es una carpeta: suelte los archivos que contiene, no la carpeta.
goto :eof

:not_found
set "rfc_last_failure=4"
echo No se encuentra el archivo.
goto :eof

:no_program
set "rfc_last_failure=4"
echo No se encuentra rfc.exe junto a este archivo: descomprima la carpeta
echo completa y suelte los archivos sobre el .cmd que esta dentro de ella.
goto :done

:usage
set "rfc_last_failure=2"
echo Suelte sobre este archivo uno o varios libros de Excel (.xlsx) o archivos
echo CSV o de texto con las columnas de apellidos, nombre y fecha de
echo nacimiento (o CURP). Junto a cada uno queda otro con -rfc en el nombre
echo (nomina.xlsx da nomina-rfc.xlsx), con la clave de cada fila.
echo Lea LEAME.txt para saber mas.

:done
echo.
if defined rfc_codepage chcp %rfc_codepage% >nul
pause
endlocal & exit /b %rfc_last_failure%
