"""Reads the resources of a Windows program straight from its file."""
import re
import struct

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def read(path):
    """{(type, id): bytes}, the first language of each resource."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", f"{path} is no Windows program"
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    directories = pe + 24 + (96 if struct.unpack_from("<H", data, pe + 24)[0] == 0x10B else 112)
    rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]  # the resource directory
    for i in range(sections):
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, pe + 24 + optional_size + 40 * i + 8)
        if address <= rva < address + max(size, raw_size):
            break
    else:
        return {}
    offset = lambda r: r - address + raw
    root = offset(rva)

    def entries(table):
        named, numbered = struct.unpack_from("<HH", data, root + table + 12)
        return [struct.unpack_from("<II", data, root + table + 16 + 8 * k) for k in range(named + numbered)]

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            leaf = entries(languages & 0x7FFFFFFF)[0][1]
            at, size = struct.unpack_from("<II", data, root + leaf)
            found[(kind, name)] = data[offset(at):offset(at) + size]
    return found


def version_numbers(resource):
    """FILEVERSION as four numbers, from the fixed part of the version resource."""
    ms, ls = struct.unpack_from("<II", resource, resource.index(b"\xbd\x04\xef\xfe") + 8)
    return ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF


def version_string(resource, key):
    """One value of the version resource's string table (key, padding, value)."""
    m = re.search(re.escape(key) + "\0+([^\0]*)\0", resource.decode("utf-16-le", "replace"))
    return m.group(1) if m else None


def icon_sizes(resources):
    """The sizes of the first icon group: (size in the group, size of the image, PNG or not)."""
    group = next(data for (kind, _), data in sorted(resources.items()) if kind == RT_GROUP_ICON)
    sizes = []
    for k in range(struct.unpack_from("<H", group, 4)[0]):
        width, _, _, _, _, _, _, image_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * k)
        image = resources[(RT_ICON, image_id)]
        png = image.startswith(b"\x89PNG")
        real = struct.unpack_from(">I", image, 16)[0] if png else struct.unpack_from("<i", image, 4)[0]
        sizes.append((width or 256, real, png))
    return sizes
