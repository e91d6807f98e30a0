# The reference web service's addresses and secrets, shared by the test and
# demo builds and by the service itself.
SERVICE_API_ADDRESS=127.0.0.1
# A second checkout on the same machine may take listeners of its own
# (CALVERIN_SERVICE_PORT, CALVERIN_SERVICE_FALLBACK_IP) so that two builds'
# service tests need not wait for each other; its builds bake them in.
SERVICE_API_PORT=${CALVERIN_SERVICE_PORT:-48443}
SERVICE_API_HOST="$SERVICE_API_ADDRESS:$SERVICE_API_PORT"
SERVICE_FALLBACK_IP=${CALVERIN_SERVICE_FALLBACK_IP:-127.0.0.2}
SERVICE_SIGN_SALT=Ts8qLm2VxR4nPw7K
SERVICE_DATA_KEY=Dk5hYb9CzJ3fUe6A

# The i686 build calls the next port and the next fallback address, so that
# the two targets' test suites can run side by side, each beside a service of
# its own:  service_settings_for_target TARGET
service_settings_for_target() {
  if [ "${1:?target}" = i686 ]; then
    SERVICE_API_PORT=$((SERVICE_API_PORT + 1))
    SERVICE_API_HOST="$SERVICE_API_ADDRESS:$SERVICE_API_PORT"
    SERVICE_FALLBACK_IP=${SERVICE_FALLBACK_IP%.*}.$((${SERVICE_FALLBACK_IP##*.} + 1))
  fi
}

# Exports the listeners that a configured build calls, for a service started
# beside it:  export_service_listeners_of_build BUILD_FOLDER
export_service_listeners_of_build() {
  local cache=${1:?build folder}/CMakeCache.txt api_host
  api_host=$(sed -n 's/^CALVERIN_API_HOST:[A-Z]*=//p' "$cache")
  export CALVERIN_SERVICE_PORT=${api_host##*:}
  CALVERIN_SERVICE_FALLBACK_IP=$(sed -n 's/^CALVERIN_FALLBACK_IP:[A-Z]*=//p' "$cache")
  export CALVERIN_SERVICE_FALLBACK_IP
}
