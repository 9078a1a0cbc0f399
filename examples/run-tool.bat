@echo off
rem Expected: exit code 0 and "Started." when run.exe is found (the location remembered or given in the dialog); exit code 2 and "The location was not given; nothing was started." when the dialog is cancelled; exit code 3 and "run.exe was found but could not be started." when it is no program the system can start.
rem Starts run.exe from wherever the Marlinth tools are today, with their folder in front of PATH.
rem NRCDROM_DIR is the folder holding nrcdrom.exe: set it before calling this file, or keep
rem this file beside nrcdrom.exe or in the examples folder below it.
if not defined NRCDROM_DIR if exist "%~dp0nrcdrom.exe" for %%I in ("%~dp0.") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR if exist "%~dp0..\nrcdrom.exe" for %%I in ("%~dp0..") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR goto noprogram

rem The empty "" is the window title: start takes a quoted first argument as the title.
rem /wait makes cmd wait for the program and set errorlevel to its exit code.
rem "if errorlevel N" holds for N and every higher code, so the highest is tested first.
start "" /wait "%NRCDROM_DIR%\nrcdrom.exe" run.exe Marlinth_Tools $s S
if errorlevel 3 goto notstarted
if errorlevel 2 goto cancelled
echo Started.
exit /b 0

:cancelled
echo The location was not given; nothing was started.
exit /b 2

:notstarted
echo run.exe was found but could not be started.
exit /b 3

:noprogram
echo nrcdrom.exe was not found; set NRCDROM_DIR to its folder. 1>&2
exit /b 4
