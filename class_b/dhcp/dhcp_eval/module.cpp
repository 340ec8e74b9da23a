// The loadable module itself holds no code: the entry points live in the
// qvt_dhcp_eval archive, which is linked whole.
