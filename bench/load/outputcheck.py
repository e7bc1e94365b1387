"""Whether a file `tarvex-cli generate` wrote is whole: it ends as a file of its kind ends, and its size
in airlines, menus or rows is that of every other copy of the same output written during the run (the
load changes no code, flag or condition, so the register's shape stays as it was).
"""

import queue
import threading
import xml.etree.ElementTree as ElementTree
import zipfile

_SMART_FLOW_PROMPT_END = '" assign to airline '
_SHEET = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def _smart_key(data):
    # A whole Smart Key opens the airline question and closes it last; a text only shown never
    # carries a bracket (the writer puts look-alikes there), so the brackets pair up.
    data.decode("utf-8")
    if not data.startswith(b"<CHOOSE <") or not data.endswith(b">\r\n"):
        raise ValueError("does not start with <CHOOSE < and end with >\\r\\n")
    if data.count(b"<") != data.count(b">"):
        raise ValueError(f"{data.count(b'<')} < against {data.count(b'>')} >")
    return data.count(b"<SEND>")


def _smart_flow(data):
    # The prompt lists every airline's key, and the body has one branch for each.
    text = data.decode("utf-8")
    if not text.startswith('select "<h1>') or not text.endswith("}\r\n"):
        raise ValueError('does not start with select "<h1> and end with }\\r\\n')
    prompt, found, _ = text.partition(_SMART_FLOW_PROMPT_END)
    keys = prompt.rpartition(' from ",')[2].split(",")
    branches = text.count('if(airline=="')
    if not found or len(keys) != branches:
        raise ValueError(f"the prompt names {len(keys)} airlines, the body has {branches}")
    return branches


def _workbook(path):
    # Every part's checksum matches, every XML part parses, and the airlines are counted.
    with zipfile.ZipFile(path) as package:
        damaged = package.testzip()
        if damaged:
            raise ValueError(f"part {damaged} fails its checksum")
        airlines = 0
        for name in package.namelist():
            if name.endswith(".xml") or name.endswith(".rels"):
                root = ElementTree.fromstring(package.read(name))
                if name.startswith("xl/worksheets/"):
                    airlines += sum(1 for cell in root.iter(_SHEET + "c") if _is_bsp_mark(cell))
        if airlines == 0:
            raise ValueError("no airline in the worksheet")
        return airlines


def _is_bsp_mark(cell):
    # An airline's first row has + or - in column D; a comment adds rows, so rows are no measure.
    value = cell.find(_SHEET + "v")
    return cell.get("r", "").startswith("D") and value is not None and value.text in ("+", "-")


def _airline_list(data, airlines):
    # One line a airline, each ended.
    data.decode("cp1251")
    lines = data.count(b"\r\n")
    if not data.endswith(b"\r\n") or lines != airlines:
        raise ValueError(f"{lines} lines for {airlines} airlines")
    return airlines


def output_size(path, airlines):
    """The size of the output in its own units; raises ValueError saying what is not whole."""
    if path.suffix == ".xlsx":
        return _workbook(path)
    data = path.read_bytes()
    if path.suffix == ".csv":
        return _airline_list(data, airlines)
    if data.startswith(b"select"):
        return _smart_flow(data)
    return _smart_key(data)


class OutputCheck(threading.Thread):
    """Checks the outputs handed to it, in a thread of its own, against the first copy of each output."""

    def __init__(self, airlines):
        super().__init__(name="output-check", daemon=True)
        self._airlines = airlines
        self._queue = queue.Queue()
        self._sizes = {}
        self.checked = 0
        self.problems = []

    def submit(self, label, path):
        self._queue.put((label, path))

    def finish(self):
        """Waits until every output handed over is checked."""
        self._queue.put(None)
        self.join()

    def run(self):
        while (item := self._queue.get()) is not None:
            self._check(*item)

    def _check(self, label, path):
        self.checked += 1
        try:
            size = output_size(path, self._airlines)
        except (ValueError, UnicodeDecodeError, zipfile.BadZipFile, ElementTree.ParseError, OSError) as error:
            self.problems.append(f"{label}: {path.name}: {error}")
            return
        first = self._sizes.setdefault(path.name, size)
        if size != first:
            self.problems.append(f"{label}: {path.name}: {size} airlines, the first copy {first}")
