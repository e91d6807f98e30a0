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
