// add-root-cert <certificate file>: adds a CA certificate (DER or PEM) to the LocalMachine "Root" store, so
// WinINet trusts servers it issued for. Used to trust the test update server's CA inside a Wine prefix.
#include <windows.h>

#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

struct StoreCloser {
    void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};

std::vector<BYTE> ToDer(const std::vector<char>& file) {
    const char marker[] = "-----BEGIN";
    if (std::search(file.begin(), file.end(), marker, marker + sizeof(marker) - 1) == file.end()) {
        return std::vector<BYTE>(file.begin(), file.end());
    }
    DWORD size = 0;
    if (!CryptStringToBinaryA(file.data(), static_cast<DWORD>(file.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr)) {
        return {};
    }
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(file.data(), static_cast<DWORD>(file.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr)) {
        return {};
    }
    der.resize(size);
    return der;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: add-root-cert <certificate.der|certificate.pem>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<BYTE> der = ToDer(file);
    if (der.empty()) {
        std::fprintf(stderr, "add-root-cert: cannot read a certificate from %ls\n", argv[1]);
        return 1;
    }
    std::unique_ptr<void, StoreCloser> store(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!store) {
        std::fprintf(stderr, "add-root-cert: cannot open the Root store (error %lu)\n", GetLastError());
        return 1;
    }
    if (!CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der.data(),
                                          static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING, nullptr)) {
        std::fprintf(stderr, "add-root-cert: cannot add the certificate (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
