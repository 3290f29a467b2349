# OpenSSL's RC4 serves as an independent peer in the tests.
find_package(OpenSSL 3 REQUIRED)
target_link_libraries(test_security PRIVATE OpenSSL::Crypto)
