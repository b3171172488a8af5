#include "util/RegistryAccessor.h"

#include <cstdio>

#include "io/AppDataInputStream.h"
#include "io/AppDataOutputStream.h"
#include "io/IOException.h"
#include "io/VFS.h"
#include "lang/Log.h"
#include "lang/Mutex.h"
#include "util/AES.h"
#include "util/RegistryKey.h"

namespace util {

namespace {

const char* const kFileName = "tessel.registry";

struct Store {
    lang::Mutex mutex;
    int depth = 0;
    JSON document;
};

Store& store() {
    static Store* instance = new Store;  // never destroyed: accessors may run at exit
    return *instance;
}

AES cipher() {
    return AES(detail::registryKey(), AES::KEY_LENGTH_256, AES::PAD_MODE_RANDOM);
}

void load(JSON& document) {
    std::vector<uint8_t> bytes;
    try {
        lang::Ptr<io::AppDataInputStream> in = new io::AppDataInputStream(kFileName);
        bytes = io::readAll(*in);
    } catch (const std::exception&) {
        // No file yet, or an unreadable one: start empty.
        document = JSON::ObjectType();
        return;
    }
    if (!decodeRegistry(bytes.data(), bytes.size(), document)) {
        // The next save would overwrite it; kept, it may still be read back.
        const std::string path = io::pathUnderRoot(io::appDataRoot(), kFileName);
        const std::string kept = path + ".bad";
        if (std::rename(path.c_str(), kept.c_str()) == 0) {
            QF_LOG("", lang::log::WARNING, "The damaged store %s is kept as %s", path.c_str(),
                   kept.c_str());
        }
    }
}

void save(const JSON& document) {
    try {
        std::string text = document.toString(false);
        std::vector<uint8_t> encrypted;
        cipher().encrypt(reinterpret_cast<const uint8_t*>(text.data()), text.size(), encrypted);
        lang::Ptr<io::AppDataOutputStream> out = new io::AppDataOutputStream(kFileName);
        out->write(encrypted.data(), static_cast<int>(encrypted.size()));
        out->close();
    } catch (const std::exception& e) {
        QF_LOG("", lang::log::ERROR, "Registry flush failed: %s", e.what());
    }
}

}  // namespace

bool decodeRegistry(const uint8_t* bytes, size_t size, JSON& document) {
    document = JSON::ObjectType();
    std::vector<uint8_t> plain;
    if (!cipher().decrypt(bytes, size, plain)) {
        QF_LOG("", lang::log::ERROR, "Registry load failed because the file seems to be corrupted");
        return false;
    }
    JSON parsed;
    try {
        parsed.parse(reinterpret_cast<const char*>(plain.data()), plain.size());
    } catch (const JSON::JSONException& e) {
        QF_LOG("", lang::log::ERROR,
               "Registry load failed because the file seems to be corrupted: %s", e.what());
        return false;
    }
    // Any other root would make every later member access throw.
    if (parsed.getType() != JSON::TYPE_OBJECT && parsed.getType() != JSON::TYPE_NULL) {
        QF_LOG("", lang::log::ERROR, "Registry load failed because the file seems to be corrupted");
        return false;
    }
    // An empty text parses as Null; kept as Null it would be saved as "null",
    // which is no document, and the next load would call the file corrupted.
    if (parsed.getType() == JSON::TYPE_OBJECT) {
        document = std::move(parsed);
    }
    return true;
}

RegistryAccessor::RegistryAccessor() {
    Store& s = store();
    s.mutex.lock();
    if (s.depth++ == 0) {
        load(s.document);
    }
}

RegistryAccessor::~RegistryAccessor() {
    Store& s = store();
    save(s.document);
    --s.depth;
    s.mutex.unlock();
}

JSON& RegistryAccessor::registry() {
    return store().document;
}

}  // namespace util
