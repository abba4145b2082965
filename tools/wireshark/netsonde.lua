-- Wireshark dissector for the devices' 612-byte record on UDP port 2719: discovery requests and
-- replies, set requests and the devices' answers to them. Every field is decoded at its fixed
-- offset with its own byte order; the ChangeMask of a set request and the ErrorMask of a refusal
-- are split into their bits by field name. The password is shown as "<hidden>" unless the
-- preference "Show passwords" is on, so a capture can be shared or shown on screen safely.
--
-- Install: copy this file into Wireshark's personal Lua plugins folder (Help > About Wireshark >
-- Folders, "Personal Lua Plugins"; ~/.local/lib/wireshark/plugins on Linux) or run
-- `tshark -X lua_script:netsonde.lua ...`. Display filter prefix: netsonde.

local RECORD_SIZE = 612
local DEFAULT_PORT = 2719

local proto = Proto("netsonde", "Netsonde device protocol")

local opcode_names = {
    [1] = "Discovery request",
    [2] = "Discovery reply",
    [3] = "Set request",
    [4] = "Set accepted",
}

-- Bit, filter name, field, and the name a refusal of exactly that bit is reported with.
local mask_bits = {
    { 0, "password", "password", "read/write password" },
    { 1, "unknown1", "bit 1 (no field known)", nil },
    { 2, "ip_address", "ipAddress", "IP address" },
    { 3, "unknown3", "bit 3 (no field known)", nil },
    { 4, "system_name", "systemName", "system name" },
    { 5, "unknown5", "bit 5 (no field known)", nil },
    { 6, "tftp_server", "tftpServer", "TFTP server IP address" },
    { 7, "image_file_name", "imageFileName", "image file name" },
    { 8, "subnet_mask", "subnetMask", "subnet mask" },
    { 9, "gateway", "gateway", "gateway IP address" },
    { 10, "ip_address_type", "ipAddressType", "IP address type" },
}

local ip_type_names = { [1] = "static", [2] = "dynamic" }

local f = {
    marker = ProtoField.uint8("netsonde.marker", "Marker", base.HEX),
    opcode = ProtoField.uint8("netsonde.opcode", "Opcode", base.DEC, opcode_names),
    field_mask = ProtoField.uint16("netsonde.field_mask", "Field mask", base.HEX),
    change_mask = ProtoField.uint16("netsonde.change_mask", "ChangeMask", base.HEX),
    error_mask = ProtoField.uint16("netsonde.error_mask", "ErrorMask", base.HEX),
    error_name = ProtoField.string("netsonde.error_mask.name", "Refused field"),
    password = ProtoField.string("netsonde.password", "Password"),
    password_empty = ProtoField.bool("netsonde.password.empty", "Password empty"),
    mac = ProtoField.ether("netsonde.mac", "MAC address"),
    reserved = ProtoField.bytes("netsonde.reserved", "Reserved (bytes 42-43)"),
    ip = ProtoField.ipv4("netsonde.ip", "IP address"),
    name = ProtoField.string("netsonde.name", "System name"),
    uptime = ProtoField.uint32("netsonde.uptime", "Uptime (1/100 s)", base.DEC),
    uptime_text = ProtoField.string("netsonde.uptime.text", "Uptime"),
    description = ProtoField.string("netsonde.description", "System description"),
    tftp = ProtoField.ipv4("netsonde.tftp", "TFTP server"),
    image = ProtoField.string("netsonde.image", "Image file name"),
    mask = ProtoField.ipv4("netsonde.mask", "Subnet mask"),
    gateway = ProtoField.ipv4("netsonde.gateway", "Gateway"),
    ip_type = ProtoField.uint32("netsonde.ip_type", "IP address type", base.DEC, ip_type_names),
}
-- One boolean field per mask bit, for each of the two masks: netsonde.change_mask.gateway ...
local bit_fields = { change_mask = {}, error_mask = {} }
for mask_name, list in pairs(bit_fields) do
    for _, bit in ipairs(mask_bits) do
        local field = ProtoField.bool("netsonde." .. mask_name .. "." .. bit[2], bit[3], 16,
                                      nil, bit32.lshift(1, bit[1]))
        list[#list + 1] = field
        f[mask_name .. "_" .. bit[2]] = field
    end
    local high = ProtoField.uint16("netsonde." .. mask_name .. ".unknown_high",
                                   "bits 11-15 (no field known)", base.HEX, nil, 0xF800)
    list[#list + 1] = high
    f[mask_name .. "_unknown_high"] = high
end
proto.fields = f

local e_size = ProtoExpert.new("netsonde.not_a_record", "Not a record", expert.group.MALFORMED,
                               expert.severity.WARN)
local e_marker = ProtoExpert.new("netsonde.bad_marker", "Marker is neither 0xAB nor 0xAC",
                                 expert.group.PROTOCOL, expert.severity.WARN)
local e_refused = ProtoExpert.new("netsonde.refused", "The device refused the change",
                                  expert.group.RESPONSE_CODE, expert.severity.NOTE)
local e_unterminated = ProtoExpert.new("netsonde.unterminated", "Text fills its field: no zero",
                                       expert.group.PROTOCOL, expert.severity.NOTE)
proto.experts = { e_size, e_marker, e_refused, e_unterminated }

proto.prefs.show_password = Pref.bool("Show passwords", false,
    "Show the password field's text instead of <hidden>")
proto.prefs.port = Pref.uint("UDP port", DEFAULT_PORT, "The devices' UDP port")

-- The name a refusal is reported with: the whole value compared, not bit by bit, so 0 and any
-- combination of bits are "settings".
local function error_mask_name(value)
    for _, bit in ipairs(mask_bits) do
        if bit[4] ~= nil and value == bit32.lshift(1, bit[1]) then
            return bit[4]
        end
    end
    return "settings"
end

-- A text field: its bytes up to the first zero or the field's end, as Latin-1, made UTF-8 here
-- (TvbRange:string with a Latin-1 encoding cuts the converted text to the byte count).
local function add_text(tree, field, tvb, offset, size)
    local chars = {}
    local length = 0
    while length < size do
        local byte = tvb(offset + length, 1):uint()
        if byte == 0 then
            break
        end
        chars[#chars + 1] = byte < 0x80 and string.char(byte)
            or string.char(0xC0 + bit32.rshift(byte, 6), 0x80 + bit32.band(byte, 0x3F))
        length = length + 1
    end
    local text = table.concat(chars)
    local item = tree:add(field, tvb(offset, size), text)
    if length == size then
        item:add_proto_expert_info(e_unterminated)
    end
    return text, length
end

local function add_mask(tree, field, list, range)
    local item = tree:add(field, range)
    for _, bit_field in ipairs(list) do
        item:add(bit_field, range)
    end
    return item
end

local function uptime_text(hundredths)
    local seconds = math.floor(hundredths / 100)
    return string.format("%d d %d h %d m %d s", math.floor(seconds / 86400),
                         math.floor(seconds / 3600) % 24, math.floor(seconds / 60) % 60,
                         seconds % 60)
end

local function mac_text(tvb)
    local parts = {}
    for i = 0, 5 do
        parts[#parts + 1] = string.format("%02x", tvb(36 + i, 1):uint())
    end
    return table.concat(parts, "-")
end

function proto.dissector(tvb, pinfo, root)
    pinfo.cols.protocol = "Netsonde"
    local tree = root:add(proto, tvb(), "Netsonde device record")
    if tvb:len() ~= RECORD_SIZE then
        tree:add_proto_expert_info(e_size, string.format("Not a record: %d bytes, a record has %d",
                                                         tvb:len(), RECORD_SIZE))
        pinfo.cols.info = string.format("Not a record (%d bytes)", tvb:len())
        return tvb:len()
    end

    local marker = tvb(0, 1):uint()
    local opcode = tvb(1, 1):uint()
    local mask = tvb(2, 2):uint()
    local marker_item = tree:add(f.marker, tvb(0, 1))
    if marker ~= 0xAB and marker ~= 0xAC then
        marker_item:add_proto_expert_info(e_marker)
    end
    local opcode_item = tree:add(f.opcode, tvb(1, 1))
    if opcode_names[opcode] == nil then
        opcode_item:append_text(" (a device's refusal of a set request)")
    end

    local info = opcode_names[opcode] or string.format("Opcode %d", opcode)
    if opcode == 3 then
        add_mask(tree, f.change_mask, bit_fields.change_mask, tvb(2, 2))
        info = info .. string.format(" ChangeMask=0x%04x", mask)
    elseif opcode == 1 or opcode == 2 or opcode == 4 then
        tree:add(f.field_mask, tvb(2, 2))
    else
        -- Any other opcode is a device's refusal of a set request.
        local item = add_mask(tree, f.error_mask, bit_fields.error_mask, tvb(2, 2))
        item:add_proto_expert_info(e_refused)
        local name = error_mask_name(mask)
        tree:add(f.error_name, tvb(2, 2), name)
        info = string.format("Set refused: %s (ErrorMask=0x%04x)", name, mask)
    end

    local empty = tvb(4, 1):uint() == 0
    if proto.prefs.show_password then
        add_text(tree, f.password, tvb, 4, 32)
    else
        tree:add(f.password, tvb(4, 32), "<hidden>")
    end
    tree:add(f.password_empty, tvb(4, 1), empty)
    tree:add(f.mac, tvb(36, 6))
    tree:add(f.reserved, tvb(42, 2))
    tree:add(f.ip, tvb(44, 4))
    local name = add_text(tree, f.name, tvb, 48, 32)
    local uptime = tvb(80, 4):uint()
    tree:add(f.uptime, tvb(80, 4))
    tree:add(f.uptime_text, tvb(80, 4), uptime_text(uptime))
    add_text(tree, f.description, tvb, 84, 256)
    tree:add(f.tftp, tvb(340, 4))
    add_text(tree, f.image, tvb, 344, 256)
    tree:add(f.mask, tvb(600, 4))
    tree:add(f.gateway, tvb(604, 4))
    tree:add_le(f.ip_type, tvb(608, 4))

    if opcode ~= 1 then
        info = string.format("%s %s %s %s", info, mac_text(tvb), tostring(tvb(44, 4):ipv4()), name)
    end
    pinfo.cols.info = info
    return RECORD_SIZE
end

local registered_port = nil
local function register_port()
    local udp = DissectorTable.get("udp.port")
    if registered_port ~= nil then
        udp:remove(registered_port, proto)
    end
    registered_port = proto.prefs.port
    udp:add(registered_port, proto)
end

function proto.prefs_changed()
    if registered_port ~= proto.prefs.port then
        register_port()
    end
end

register_port()
