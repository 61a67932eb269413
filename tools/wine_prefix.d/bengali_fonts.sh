#!/usr/bin/env bash
# Maps the Windows fonts that the programs ask for ("Nirmala UI" for candidates, "Segoe UI" for
# labels and the header, whose next-word banner holds Bengali too, "Vrinda" for the Bangla badge of
# the tray and the top bar) onto Ani from fonts-beng-extra, a host font with both Bengali and Latin
# glyphs, so that Bengali really renders under wine. Fonts with separate bold files (FreeSans)
# would not do: their bold lacks Bengali. Symbols that Ani lacks (the header's arrow) come from
# FreeSerif of fonts-freefont-ttf when the host has it. Run by wine_run.sh when it makes a prefix
# and whenever these scripts change.
set -u
wine=${WINE:-wine64}
face=Ani
mapped=('Nirmala UI' 'Segoe UI' 'Vrinda')

replacements='HKCU\Software\Wine\Fonts\Replacements'
for name in "${mapped[@]}"; do
  "$wine" reg add "$replacements" /v "$name" /d "$face" /f >/dev/null 2>&1
done
if [ -f /usr/share/fonts/truetype/freefont/FreeSerif.ttf ]; then
  for name in "$face" "${mapped[@]}"; do
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$name" /t REG_MULTI_SZ /d 'FreeSerif.ttf,FreeSerif' /f >/dev/null 2>&1
  done
fi
exit 0
