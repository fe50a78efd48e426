// The fund's FTP server and the libcurl client that uploads declaration files.
#pragma once

#include "base/ftpclient.h"

#include <memory>

// Build-time settings, each overridden by SARVEK_FTP_HOST, SARVEK_FTP_PORT,
// SARVEK_FTP_USER and SARVEK_FTP_PASSWORD when set.
FtpSettings fundFtpSettings();

// Active mode, TLS when the server offers it, connect and transfer timeouts;
// after the store it asks the server for the stored size.
std::unique_ptr<FtpClient> makeCurlFtpClient(const FtpSettings &settings);
