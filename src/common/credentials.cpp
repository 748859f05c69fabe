#include "common/credentials.h"

CredentialStore::~CredentialStore() = default;
