/* SQLite3 Multiple Ciphers 2.4.0 always registers its value-level encryption functions at each
** open, but builds them only with the ChaCha20 or Ascon-128 scheme. With the SQLCipher scheme
** alone there is nothing to register. (Part of qorvex, not of the amalgamation.) */
#include "sqlite3.h"

int sqlite3_vle_init(sqlite3* db, char** pzErrMsg, const sqlite3_api_routines* pApi);

int sqlite3_vle_init(sqlite3* db, char** pzErrMsg, const sqlite3_api_routines* pApi) {
    (void)db;
    (void)pzErrMsg;
    (void)pApi;
    return SQLITE_OK;
}
