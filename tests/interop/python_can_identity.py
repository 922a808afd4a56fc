#!/usr/bin/env python3
"""Another CAN library reads the simulated module's CiA 301 objects: python-can's serial-line
(slcan) interface against korvane-module-sim --pty. Exit 77 (skipped) where python-can is missing."""
import json
import os
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python3-can is not installed: skipped")
    sys.exit(77)

SERIAL = 0x00C0FFEE


def upload(bus, node, index, sub):
    request = [0x40, index & 0xFF, index >> 8, sub, 0, 0, 0, 0]
    bus.send(can.Message(arbitration_id=0x600 + node, data=request, is_extended_id=False))
    while True:
        answer = bus.recv(timeout=2.0)
        if answer is None:
            sys.exit(f"no answer for 0x{index:04X}:{sub:02X}")
        if answer.arbitration_id != 0x580 + node:
            continue  # boot-up, heartbeat
        data = bytes(answer.data)
        if data[1:4] != bytes(request[1:4]) or (data[0] & 0xE3) != 0x43:
            sys.exit(f"0x{index:04X}:{sub:02X} answered {data.hex()}")
        size = 4 - ((data[0] >> 2) & 3)
        return int.from_bytes(data[4:4 + size], "little")


def main():
    with tempfile.TemporaryDirectory() as folder:
        state = os.path.join(folder, "state.json")
        with open(state, "w") as out:
            json.dump({"settings": {"NodeId": 7}, "identity": {"serial_number": SERIAL}}, out)
        simulator = subprocess.Popen([sys.argv[1], "--pty", state], stdout=subprocess.PIPE, text=True)
        try:
            pty = simulator.stdout.readline().strip()
            with can.Bus(interface="slcan", channel=pty, bitrate=250000) as bus:
                device_type = upload(bus, 7, 0x1000, 0)
                highest = upload(bus, 7, 0x1018, 0)
                serial = upload(bus, 7, 0x1018, 4)
        finally:
            simulator.terminate()
            simulator.wait()
    if highest != 4 or serial != SERIAL:
        sys.exit(f"identity: sub 0 = {highest}, serial 0x{serial:08X}")
    print(f"device type 0x{device_type:08X}, serial 0x{serial:08X}")


main()
