#!/usr/bin/python3
"""The office's own time for a list of files, with no program of ours between:
Debian's Python UNO binding drives a private office through one of two call
sequences and prints the seconds, office start included.

  save-as     what a run does: load hidden, dispatch .uno:SaveAs with the
              Excel 97 filter, close
  store-to    what soffice --convert-to does: load hidden and read-only,
              storeToURL with the same filter, close

usage: office_alone.py save-as|store-to PROFILE_FOLDER OUT_FOLDER FILE...
"""
import os
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue

SOFFICE = "/usr/lib/libreoffice/program/soffice.bin"


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def connect(profile):
    pipe = "quillmere-bench-%d" % os.getpid()
    office = subprocess.Popen(
        [SOFFICE, "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--headless", "--invisible",
         "--norestore", "--nologo", "--nodefault", "--nolockcheck", "--accept=pipe,name=%s;urp;" % pipe],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(600):
        try:
            return office, resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:  # not listening yet
            time.sleep(0.05)
    raise SystemExit("the office did not start")


def convert(context, sequence, path, out_folder):
    manager = context.ServiceManager
    desktop = manager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
    load = (prop("Hidden", True),) + ((prop("ReadOnly", True),) if sequence == "store-to" else ())
    document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)), "_blank", 0, load)
    target = uno.systemPathToFileUrl(os.path.join(os.path.abspath(out_folder),
                                                  os.path.basename(path).split(".")[0] + ".xls"))
    if sequence == "store-to":
        document.storeToURL(target, (prop("FilterName", "MS Excel 97"),))
    else:
        dispatcher = manager.createInstanceWithContext("com.sun.star.frame.DispatchHelper", context)
        frame = document.getCurrentController().getFrame()
        dispatcher.executeDispatch(frame, ".uno:SaveAs", "", 0, (
            prop("URL", target), prop("FilterName", "MS Excel 97"), prop("SelectionOnly", True)))
    document.close(True)


def main():
    sequence, profile, out_folder, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    start = time.monotonic()
    office, context = connect(profile)
    failed = 0
    for path in files:
        try:
            convert(context, sequence, path, out_folder)
        except Exception:  # the file's own fault; the next one goes on
            failed += 1
    seconds = time.monotonic() - start
    try:
        context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context).terminate()
    except Exception:  # the bridge goes down with the office
        pass
    office.wait()
    print("%.3f %d" % (seconds, failed))


if __name__ == "__main__":
    main()
