#pragma once

#include <functional>
#include <string>

#include "io/InputStream.h"
#include "io/Uri.h"
#include "lang/Ptr.h"

/// The virtual file system: URIs are resolved through the mount table to a
/// concrete scheme ("file", "bundle", "appdata"), whose reader opens the stream.
/// Every call is serialised by one process-wide re-entrant lock and may come
/// from any thread.
namespace io {

/// Creates a stream for a resolved URI; throws io::IOException on failure.
using ReaderFactory = std::function<lang::Ptr<InputStream>(const Uri&)>;

/// Sets the reader of `scheme` (stored in lower case), replacing an earlier one.
void registerReader(const std::string& scheme, const ReaderFactory& factory);
/// Paths starting with `prefix` (such as "/levels/") resolve into `target`.
void mount(const Uri& target, const std::string& prefix);
/// A URI with a concrete scheme; throws io::IOException when no mount matches.
Uri resolve(const Uri& uri);
/// Resolves `uri` and opens it with its scheme's reader.
lang::Ptr<InputStream> openInputStream(const Uri& uri);
lang::Ptr<InputStream> openInputStream(const std::string& uri);

/// The folders of the "bundle" and "appdata" schemes, each ending in '/'
/// (empty means the working directory). Set once at start-up.
std::string bundleRoot();
std::string appDataRoot();
void setBundleRoot(const std::string& path);
void setAppDataRoot(const std::string& path);

/// `path` under the folder `root`, normalised; a leading '/' of `path` is ignored.
std::string pathUnderRoot(const std::string& root, const std::string& path);

}  // namespace io
