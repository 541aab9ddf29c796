@echo off
rem Drop .hrm or .hrz files, or folders of them, on this file: Windows starts
rem it with their paths as arguments, and polarhost.exe beside it converts
rem them to FIT and TCX into the folder "converted" beside the first one.
rem The window stays open with the converter's summary until a key is pressed.
rem No blocks in parentheses below: a ")" in a dropped path would end one.
setlocal
title Converting to FIT and TCX
set "converter=%~dp0polarhost.exe"
if "%~1"=="" goto usage
if not exist "%converter%" goto missing
set "output=%~dp1converted"
echo Converting into "%output%"
echo.
"%converter%" --format fit,tcx --output "%output%" %*
set status=%errorlevel%
echo.
if %status%==0 echo Everything was converted, into "%output%".
if %status%==1 echo NOT everything was converted: the lines above say what was not, and why.
if not %status%==0 if not %status%==1 echo The conversion failed: polarhost.exe ended with exit status %status%.
pause
exit /b %status%

:usage
echo Drop .hrm or .hrz files, or folders of them, on "%~nx0" to convert
echo them to FIT and TCX. CONVERT.txt beside it says more.
pause
exit /b 2

:missing
echo polarhost.exe is not beside "%~nx0": keep the two in one folder.
pause
exit /b 3
