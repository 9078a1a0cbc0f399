@echo off
rem Expected: the tool's output, then "run.exe ended with exit code 0." and exit code 0 when run.exe runs and succeeds; the tool's output, "Build stopped: run.exe ended with exit code <code>." and that exit code when it fails; nrcdrom's own line, "Build stopped: nrcdrom did not run the tool (exit code <code>); see its line above." and exit code 2 or 3 when nrcdrom could not run it, with no window shown.
rem A build step that runs a tool from the Marlinth media and uses its result. With the option
rem letter W nrcdrom waits for the tool and ends with the tool's exit code, and the tool writes
rem where nrcdrom's output goes: the >"%BUILD_LOG%" 2>&1 after nrcdrom's command line puts the
rem tool's output and errors into the log, in their order, before the next line runs. Ending
rem the build (its time limit, Ctrl+C) ends the tool with it.
rem nrcdrom runs without "start": in a batch file cmd waits for it all the same and sets
rem errorlevel to its exit code ("start" would not pass the redirection on).
rem NRCDROM_DIR is the folder holding nrcdrom.exe (default: this file's folder or the one
rem above it); BUILD_LOG the log file (default build.log in the current directory).
setlocal
set NRCDROM_UNATTENDED=1
if not defined BUILD_LOG set "BUILD_LOG=build.log"
if not defined NRCDROM_DIR if exist "%~dp0nrcdrom.exe" for %%I in ("%~dp0.") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR if exist "%~dp0..\nrcdrom.exe" for %%I in ("%~dp0..") do set "NRCDROM_DIR=%%~fI"
if not defined NRCDROM_DIR goto noprogram

"%NRCDROM_DIR%\nrcdrom.exe" run.exe Marlinth_Tools $s SW >"%BUILD_LOG%" 2>&1
set "code=%ERRORLEVEL%"
type "%BUILD_LOG%"
rem A tool may end with any code, 2 and 3 included. When nrcdrom itself could not run the
rem tool (the location unknown, no program to start), it ends with 2 or 3 and, unattended, says
rem why in one line of its own that begins with "nrcdrom: "; a tool's code comes without one.
find "nrcdrom: " "%BUILD_LOG%" >nul
if not errorlevel 1 goto notrun
if not "%code%"=="0" goto failed
echo run.exe ended with exit code 0.
rem The rest of the build goes here.
exit /b 0

:failed
echo Build stopped: run.exe ended with exit code %code%.
exit /b %code%

:notrun
echo Build stopped: nrcdrom did not run the tool (exit code %code%); see its line above.
exit /b %code%

:noprogram
echo nrcdrom.exe was not found; set NRCDROM_DIR to its folder. 1>&2
exit /b 4
