#!/usr/bin/env python3
"""Writes the seed corpora of fuzz/corpus/ from the bundled examples and
dictionaries, plus hand-written seeds for edge cases. Run from anywhere;
existing seeds of the same name are overwritten, others are kept."""
import os
import re
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def read(*parts):
    with open(os.path.join(ROOT, *parts), "rb") as f:
        return f.read()


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode()
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def pcap_frames(data):
    """(link type, frame bytes) of a classic little-endian pcap file."""
    magic, _, _, _, _, _, link = struct.unpack("<IHHiIII", data[:24])
    assert magic == 0xA1B2C3D4
    at = 24
    while at + 16 <= len(data):
        _, _, caplen, _ = struct.unpack("<IIII", data[at:at + 16])
        yield link, data[at + 16:at + 16 + caplen]
        at += 16 + caplen


def udp_payload(link, frame):
    """The UDP payload and family of an Ethernet or cooked frame, or None."""
    if link == 1:
        ethertype, at = struct.unpack(">H", frame[12:14])[0], 14
        while ethertype in (0x8100, 0x88A8):
            ethertype, at = struct.unpack(">H", frame[at + 2:at + 4])[0], at + 4
    elif link == 113:
        ethertype, at = struct.unpack(">H", frame[14:16])[0], 16
    else:
        return None
    if ethertype == 0x0800 and frame[at + 9] == 17:
        family, at = 4, at + (frame[at] & 0x0F) * 4
    elif ethertype == 0x86DD and frame[at + 6] == 17:
        family, at = 6, at + 40
    else:
        return None  # not UDP, or DHCP inside a tunnel: the capture seeds cover it
    ports = struct.unpack(">HH", frame[at:at + 4])
    if not {67, 68, 546, 547} & set(ports):
        return None
    return family, frame[at + 8:]


def hex_bytes(text):
    text = re.sub(rb"#[^\n]*", b"", text)
    return bytes.fromhex(re.sub(rb"[\s:\-]", b"", text).decode())


def lines_of(*parts):
    return [line for line in read(*parts).decode().splitlines()
            if line.strip() and not line.lstrip().startswith("#")]


def records_of(*parts):
    text = read(*parts).decode()
    records = []
    for chunk in re.split(r"\n\s*\n", text):
        body = "\n".join(l for l in chunk.splitlines() if not l.startswith("#")).strip()
        if body:
            records.append(body + "\n")
    return records


def packets():
    found = {4: [], 6: []}
    for name in sorted(os.listdir(os.path.join(ROOT, "examples"))):
        if name.endswith(".pcap"):
            for link, frame in pcap_frames(read("examples", name)):
                payload = udp_payload(link, frame)
                if payload:
                    found[payload[0]].append((name, payload[1]))
        elif name.endswith(".hex"):
            data = hex_bytes(read("examples", name))
            family = 4 if len(data) >= 240 and data[236:240] == b"\x63\x82\x53\x63" else 6
            found[family].append((name, data))
    return found


def main():
    found = packets()
    for family in (4, 6):
        for index, (name, payload) in enumerate(found[family]):
            put("Dhcp%dPacketFuzz" % family, "%s-%d" % (name.split(".")[0], index), payload)

    for name in sorted(os.listdir(os.path.join(ROOT, "examples"))):
        if name.endswith(".pcap") or name.endswith(".hex"):
            put("CaptureFuzz", name, read("examples", name))

    expressions = lines_of("examples", "expressions.txt")
    for index, text in enumerate(expressions):
        put("ExpressionFuzz", "example-%d" % index, text)
    for index, text in enumerate([
            "$VALUE('f', 'b')", "$VALUE('f', 'c')", "$VALUE('f', 'e') + $VALUE('f', 'ip')",
            "$BASE64.ENCODE($BASE64.ENCODE($BASE64.ENCODE('abc')))",
            "$STR($BYTES($STR($BYTES('abc'))))", "$UCASE('a', 'b') + $MID('abc', 1, 5)",
            "$COND(0, '', 'x') + $DEFAULT(1, 2) + $INSTR('abc', 'c')",
            "$IP.MAP(10.0.0.1) + $IP.UNMAP(::ffff:10.0.0.1)",
            "$TIME.FORMAT.LOCAL($TIME.UTC(), '%c %%') + $DATE() + $YEAR(0)",
            "1 = 2", "[(1)]", "'a' + \"b\"", "$RIGHT('abc', -1)"]):
        put("ExpressionFuzz", "edge-%d" % index, text)

    dhcp = lines_of("examples", "classes.txt") + lines_of("examples", "classes6.txt")
    dhcp = [line.split("=", 1)[1].strip() for line in dhcp]
    dhcp += [line.split("=", 1)[1].strip() for line in lines_of("examples", "rules.txt")]
    dhcp += ["$HWADDR + $CLASSID", "$INP('82/1') + $INP('82/2', 0)", "$RELAY.REMOTEID",
             "$DB.KEYVALUE('pool', 'cm', $HWADDR)", "$DB.KEYVALUE.EXISTS('off', '', 'k', 1)",
             "$DB.KEYVALUE('expr', '', 'x')", "$PROV.RULE(2) + $PROV.RULE(3)",
             "$PROV.ENABLED(true)", "$DEVICE.VENDORID + $DEVICE.DESCRIPTION",
             "$OUTP.YIADDR + $OUTP('54')", "$SERVER.IP + $DEVICE.ID + $PROV.ACCNAME",
             "$INP('0xffffff06/18') + $INP('17/2/2')", "$IS_DISCOVER && $CM || $MTA"]
    for index, text in enumerate(dhcp):
        put("DhcpExpressionFuzz", "example-%d" % index, text)

    for index, text in enumerate(records_of("examples", "keyvalues.txt")):
        put("KeyValueRecordFuzz", "record-%d" % index, text)
    put("KeyValueRecordFuzz", "keyvalues", read("examples", "keyvalues.txt"))
    put("KeyValueRecordFuzz", "all-keys",
        "class=c\nsubclass=s\nkey=k\nvalue=v=w\nenabled=false\nmod_time=86400\noid=7\n"
        "domains=a\ndomains+=b\ndomains-=a\n")

    put("RulesFileFuzz", "rules", read("examples", "rules.txt"))
    put("RulesFileFuzz", "loops", "1 = [$PROV.RULE(2)]\n2 = [$PROV.RULE(1) + 1]\n"
                                  "3 = ['x' + $PROV.RULE(3)]\n4 = 'gold'\n4 = 42\n")

    v4_payload = found[4][0][1]
    v6_payload = found[6][0][1]
    # Three definitions per seed, with a payload of their family.
    for family, payload in ((4, v4_payload), (6, v6_payload)):
        records = records_of("host", "dictionaries", "dhcp%d.defs" % family)
        for index in range(0, len(records), 3):
            text = "\n".join(records[index:index + 3])
            put("OptionAttributesFuzz", "dhcp%d-%d" % (family, index // 3),
                text.encode() + b"\0" + payload)

    classes = b"docsis3.0:\npktc1.5:\nunknown\n\n*\n"
    put("VendorFileFuzz", "vendors", read("host", "dictionaries", "vendors.defs") + b"\0" + classes)
    put("VendorFileFuzz", "patterns",
        b"class=a*b?c[d-f][^0-9]\\*\nvendor_id=1/2\n\nclass=[abc]x\nvendor_id=0x10\n"
        b"\0abxcd!*\nbx\n[abc]x\n")


if __name__ == "__main__":
    main()
