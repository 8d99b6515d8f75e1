#!/usr/bin/env bash
# Makes zip_tool.quor with Info-ZIP's zip, the way an author without our tool
# would: the file list first, then the files in list order. PNG pictures are
# stored, the rest deflated. Keys may be Japanese: the list is CP932.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p zip_tool
cp ../pictures/rgb.png zip_tool/rgb.png
cp ../pictures/grey4.bmp zip_tool/haikei.bmp
printf '[Game]\r\nTitle=テスト\r\nScreenSizeX=640\r\n' | iconv -f UTF-8 -t CP932 >zip_tool/SystemInfo.ini
printf 'filelist\r\nSystemInfo\r\nrgb\r\n背景\r\n' | iconv -f UTF-8 -t CP932 >zip_tool/list.txt
rm -f zip_tool.quor
(cd zip_tool && zip -q -X -n .png ../zip_tool.quor list.txt SystemInfo.ini rgb.png haikei.bmp)
