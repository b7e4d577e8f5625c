// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoth {

// The local files named by a text/uri-list, as a file manager offers them in a drag: one URI a line (CR LF or
// LF), a line starting with '#' a comment. A file URI ("file:///path", "file://localhost/path", "file:/path")
// names a local file; its path is percent-decoded to the bytes of the name, whatever their encoding, so that
// a name that is not UTF-8 (a GBK name from a Windows PC) reaches the file system as it is on the disk. Other
// URIs, files on another host and paths with a broken escape or a NUL, plain or encoded, are left out.
std::vector<std::string> LocalFilesOfUriList(std::string_view list);

}  // namespace varnoth
