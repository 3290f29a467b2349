# OpenSSL's Base64 block coder serves as an independent peer in the tests.
find_package(OpenSSL REQUIRED)
target_link_libraries(test_text PRIVATE OpenSSL::Crypto)
