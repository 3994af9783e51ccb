# Sourced by the benchmarks' run scripts. make_certificates DIR writes a CA
# (DIR/ca.pem) and a server certificate for 127.0.0.1 signed by it
# (DIR/server.pem, DIR/server.key), valid for one day.
make_certificates() {
  local dir=$1
  local ec_key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
  openssl req -x509 -new "${ec_key[@]}" -keyout "$dir/ca.key" -out "$dir/ca.pem" -days 1 \
    -subj "/CN=Lumbrel Bench CA" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign >/dev/null 2>&1
  openssl req -new "${ec_key[@]}" -keyout "$dir/server.key" -out "$dir/server.csr" \
    -subj "/CN=Lumbrel Bench Server" >/dev/null 2>&1
  printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -out "$dir/server.pem" -days 1 -extfile "$dir/server.ext" >/dev/null 2>&1
}
