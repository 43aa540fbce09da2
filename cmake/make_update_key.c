// SPDX-License-Identifier: GPL-3.0-or-later
/* Makes the development key pair of a build that was given no update key:
 * FOLDER/velmora-update.key (secret, owner-only) and FOLDER/velmora-update.pub,
 * each one line of hexadecimal. Run by the configure step. */
#include <sodium.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

static int write_hex(const char* folder, const char* name, const unsigned char* bytes, size_t size,
                     mode_t mode) {
    char path[4096];
    char hex[2 * crypto_sign_SECRETKEYBYTES + 1];
    snprintf(path, sizeof path, "%s/%s", folder, name);
    sodium_bin2hex(hex, sizeof hex, bytes, size);
    mode_t old = umask(0077);
    FILE* file = fopen(path, "w");
    umask(old);
    if (file == NULL) {
        return 1;
    }
    int failed = fprintf(file, "%s\n", hex) < 0;
    failed |= fclose(file) != 0;
    failed |= chmod(path, mode) != 0;
    return failed;
}

int main(int argc, char** argv) {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    if (argc != 2 || sodium_init() < 0) {
        return 2;
    }
    mkdir(argv[1], 0700);
    crypto_sign_keypair(pk, sk);
    int failed = write_hex(argv[1], "velmora-update.key", sk, sizeof sk, 0600);
    failed |= write_hex(argv[1], "velmora-update.pub", pk, sizeof pk, 0644);
    sodium_memzero(sk, sizeof sk);
    return failed;
}
