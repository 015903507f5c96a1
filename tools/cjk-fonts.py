#!/usr/bin/env python3
"""Writes a registry file (UTF-16, as regedit wants for non-ASCII names) that
lets the Wine prefix show Chinese text: the launcher's caption font is mapped
to a Chinese font of the Linux system, and the dialog fonts fall back to it
for the characters they lack."""
import sys

FONT = "WenQuanYi Micro Hei"
LINK = "wqy-microhei.ttc," + FONT


def multi_string(*values):
    data = "".join(v + "\0" for v in values) + "\0"
    return ",".join("%02x" % b for b in data.encode("utf-16-le"))


text = "\r\n".join([
    "Windows Registry Editor Version 5.00",
    "",
    r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]",
    '"微软雅黑"="%s"' % FONT,
    "",
    r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]",
    '"Tahoma"=hex(7):%s' % multi_string(LINK),
    '"Microsoft Sans Serif"=hex(7):%s' % multi_string(LINK),
    "",
])
with open(sys.argv[1], "wb") as f:
    f.write(b"\xff\xfe" + text.encode("utf-16-le"))
