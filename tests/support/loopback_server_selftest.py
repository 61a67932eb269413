#!/usr/bin/env python3
"""Checks the loopback server that network-client tests rely on: fixture replies over HTTP and
HTTPS (trusting only the test CA), unknown routes, dropped and partial replies, oversized bodies
and the request log. Needs the server started from tests/services/loopback_routes.json; the state
directory comes from QORVA_LOOPBACK_DIR."""

import http.client
import os
import ssl
import sys
import unittest

STATE = os.environ.get("QORVA_LOOPBACK_DIR", "")


def ports():
    with open(os.path.join(STATE, "ports")) as f:
        return {scheme: int(port) for scheme, port in (line.split() for line in f)}


def connect(scheme, timeout=10):
    if scheme == "https":
        context = ssl.create_default_context(cafile=os.path.join(STATE, "ca.pem"))
        return http.client.HTTPSConnection("localhost", ports()["https"], timeout=timeout, context=context)
    return http.client.HTTPConnection("127.0.0.1", ports()["http"], timeout=timeout)


def logged_requests():
    requests, current = [], None
    with open(os.path.join(STATE, "requests.log"), encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("request "):
                method, target = line[8:].split(" ", 1)
                current = {"method": method, "target": target, "headers": {}, "body": b""}
            elif line.startswith("header "):
                name, value = line[7:].split(": ", 1)
                current["headers"][name] = value
            elif line.startswith("body "):
                current["body"] = bytes.fromhex(line[5:])
            elif line == "end":
                requests.append(current)
    return requests


class LoopbackServerTest(unittest.TestCase):
    def fetch(self, scheme, method, target, body=None, headers=None):
        connection = connect(scheme)
        connection.request(method, target, body=body, headers=headers or {})
        response = connection.getresponse()
        return response.status, dict(response.getheaders()), response.read()

    def test_fixture_reply_over_tls_and_request_is_logged(self):
        status, headers, body = self.fetch("https", "POST", "/transport/echo?x=%20y", body=b"\x00\x01payload",
                                           headers={"X-Key": "k1"})
        self.assertEqual((status, headers.get("X-Reply"), body), (201, "yes", b"echoed"))
        last = logged_requests()[-1]
        self.assertEqual((last["method"], last["target"]), ("POST", "/transport/echo?x=%20y"))
        self.assertEqual(last["headers"].get("X-Key"), "k1")
        self.assertEqual(last["body"], b"\x00\x01payload")

    def test_query_values_match_decoded(self):
        target = "/translate_a/t?q=%E0%A6%86%E0%A6%AE%E0%A6%BF%20%E0%A6%AD%E0%A6%BE%E0%A6%B2%E0%A7%8B%20%E0%A6%86%E0%A6%9B%E0%A6%BF"
        status, _, body = self.fetch("http", "GET", target)
        self.assertEqual(status, 200)
        self.assertTrue(body.startswith(b'[["i am fine"'))

    def test_unknown_route_is_not_found(self):
        self.assertEqual(self.fetch("http", "GET", "/nowhere")[0], 404)

    def test_oversized_body_has_announced_size(self):
        status, _, body = self.fetch("http", "GET", "/transport/huge")
        self.assertEqual((status, len(body)), (200, 3145728))

    def test_dropped_connection_gives_no_reply(self):
        with self.assertRaises((http.client.HTTPException, ConnectionError)):
            self.fetch("http", "GET", "/translate_a/t?q=drop")

    def test_partial_body_then_drop(self):
        connection = connect("http")
        connection.request("GET", "/transport/partial-drop")
        response = connection.getresponse()
        with self.assertRaises(http.client.IncompleteRead) as raised:
            response.read()
        self.assertEqual(raised.exception.partial, b"0123")

    def test_stall_outlasts_client_timeout(self):
        connection = connect("http", timeout=0.5)
        connection.request("GET", "/translate_a/t?q=stall")
        with self.assertRaises(TimeoutError):
            connection.getresponse()


if __name__ == "__main__":
    if not STATE:
        sys.exit("QORVA_LOOPBACK_DIR is not set")
    unittest.main()
