#!/usr/bin/python3
"""The Python module against python-stdnum, on one core: check_many on the first N
accounts of a generated list against python-stdnum doing the same job in a loop
(comparar_stdnum.py's: validate, to_iban, format), and one is_valid call against
stdnum's iban.is_valid on the same IBANs, in the process's CPU time, which other
work on a shared machine slows less than it does the wall clock. Prints accounts per
second and the ratios.
With --busy, instead check_many's time beside a thread that runs Python without a
pause, against its time alone, on the wall clock: what the batches it gives the GIL
up for cost it.

    comparar_biblioteca.py LIST.txt [N] [STDNUM_N]
    comparar_biblioteca.py --busy LIST.txt [N]
"""
import sys
import threading
import time
import timeit

from stdnum import iban

import brelvoxa
from comparar_stdnum import added


def rate(function, texts):
    return len(texts) / timeit.timeit(lambda: function(texts), number=1, timer=time.process_time)


def spin(stop):
    while not stop.is_set():
        pass


def beside_busy_thread(texts):
    """The best of five each, alone and beside the busy thread, in turns."""
    alone = busy = float("inf")
    for _ in range(5):
        alone = min(alone, timeit.timeit(lambda: brelvoxa.check_many(texts), number=1))
        stop = threading.Event()
        thread = threading.Thread(target=spin, args=(stop,))
        thread.start()
        try:
            busy = min(busy, timeit.timeit(lambda: brelvoxa.check_many(texts), number=1))
        finally:
            stop.set()
            thread.join()
    print(f"check_many {len(texts)} accounts: alone {alone:.2f} s, beside a busy thread"
          f" {busy:.2f} s, {busy / alone:.2f} times")


def main():
    busy = sys.argv[1] == "--busy"
    path = sys.argv[1 + busy]
    n = int(sys.argv[2 + busy]) if len(sys.argv) > 2 + busy else 1_000_000
    m = int(sys.argv[3]) if len(sys.argv) > 3 else 100_000
    with open(path, encoding="utf-8") as f:
        texts = [line.rstrip("\r\n") for _, line in zip(range(n), f)]
    if busy:
        beside_busy_thread(texts)
        return
    # In turns, the best of three each, so that a busy spell of a shared machine
    # falls on both.
    ours = theirs = 0
    for _ in range(3):
        ours = max(ours, rate(brelvoxa.check_many, texts))
        theirs = max(theirs, rate(lambda ts: [added(t) for t in ts], texts[:m]))
    print(f"check_many     {len(texts):>9} accounts {ours:>12,.0f}/s")
    print(f"stdnum loop    {m:>9} accounts {theirs:>12,.0f}/s   check_many {ours / theirs:.0f}x")

    ibans = ["ES9121000418450200051332", "ES91 2100 0418 4502 0005 1332",
             "DE89370400440532013000", "ES9121000418450200051333"]
    calls = 20_000
    for text in ibans:
        ours = min(timeit.repeat(lambda: brelvoxa.is_valid(text), number=calls, repeat=5,
                                 timer=time.process_time)) / calls
        theirs = min(timeit.repeat(lambda: iban.is_valid(text), number=calls // 10, repeat=3,
                                   timer=time.process_time))
        theirs /= calls // 10
        print(f"is_valid {text!r:34} {ours * 1e6:6.2f} us, stdnum {theirs * 1e6:6.1f} us,"
              f" {theirs / ours:.0f}x")


if __name__ == "__main__":
    main()
